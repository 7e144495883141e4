G00 X1.

  
G01 X2.


M30
