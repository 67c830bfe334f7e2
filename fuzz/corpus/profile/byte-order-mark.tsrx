Orvane Tessarine 1.0
300
-40
Times New Roman
36
Bold, Italic
65280
12632256
5
Custom
3
1
2
2000
1000
1500
750
12
100
70
6
-1,1080
310
180
sepia
60
1010
-1-
-2-
-3-
-4-
-5-
-6-
-7-
-8-
-9-
-10-
-11-
-12-
[datetime_exif] [filename]
-1
© Café
0
