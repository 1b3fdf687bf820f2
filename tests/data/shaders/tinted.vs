; Places the vertex with the matrix in c0..c3 (rows of the transposed world-view-projection),
; colours it with c4 and hands its texture coordinates on.
vs.1.1
dp4 oPos.x, v0, c0
dp4 oPos.y, v0, c1
dp4 oPos.z, v0, c2
dp4 oPos.w, v0, c3
mov oD0, c4
mov oT0.xy, v1
