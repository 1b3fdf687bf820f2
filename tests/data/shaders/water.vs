; Water seen from above. c0..c3: the transposed world-view-projection; c4: (0.5, time, stretch,
; stretch); c5: the eye. The vertex colour shows the animation value.
vs.1.1
m4x4 oPos, v0, c0
mov oD0, c4.y
mov oT0, c5
