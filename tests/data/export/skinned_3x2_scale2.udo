Name 'Quorl01_group'
IncludeFile 'scene.inc'

Version 1

; Quorl Export: 
; Mesh Info:

[Quorl01:Vertices]
6
0 0 -0.5
1 0 -0.5
1 0 -0.5
0 1 -0.5
1 1 -0.5
1 1 -0.5

[Quorl01:Edges]
7
0 3
0 1
1 4
1 2
3 4
4 5
2 5
