Name 'Quorl01_group'
IncludeFile 'scene.inc'

Version 1

; Quorl Export: 
; Mesh Info:

[Quorl0001:Vertices]
4
0.2 0.1 -0.5
0.6 0.1 -0.5
0.2 0.5 -0.5
0.6 0.5 -0.5

[Quorl0001:Edges]
4
0 2
0 1
2 3
1 3

[Quorl0002:Vertices]
6
0.3 0.4 -0.597656
0.6 0.4 -0.5
0.9 0.4 -0.5
0.3 0.8 -0.5
0.6 0.8 -0.5
0.9 0.8 -0.5

[Quorl0002:Edges]
7
0 3
0 1
1 4
1 2
3 4
4 5
2 5
