; Water seen from below: as from above, with the fog constants of c6 in the second colour.
vs.1.1
m4x4 oPos, v0, c0
mov oD0, c4.y
mov oD1, c6
