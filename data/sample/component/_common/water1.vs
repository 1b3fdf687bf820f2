; The sample water seen from below (and from above while fog is on): as "water.vs". c0..c3: the
; transposed world-view-projection; c4: (0.5, time, stretch, stretch); c5: the eye; c6 (unused): the fog.
; oT0 is the clip position with x and y taken to 0..1 ((x + w) / 2, (y + w) / 2) and w kept: divided
; by w in the pixel shader it reads the view texture where the pixel lies on the screen, upside down
; as the mirrored view needs. oT1 lays the ripple frame over x and z at the stretch, drifting with
; the time.
vs.1.1
m4x4 r0, v0, c0
mov oPos, r0
add r1, r0, r0.w
mul oT0.xy, r1, c4.x
mov oT0.zw, r0.w
mad oT1.xy, v0.xz, c4.zw, c4.y
