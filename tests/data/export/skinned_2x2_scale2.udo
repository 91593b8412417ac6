Name 'Quorl01_group'
IncludeFile 'scene.inc'

Version 1

; Quorl Export: 
; Mesh Info:

[Quorl01:Vertices]
4
0 0 -0.5
1 0 -0.5
0 1 -0.5
1 1 -0.5

[Quorl01:Edges]
4
0 2
0 1
2 3
1 3
