{ Every function of the Nc unit writes its one line. }
program NcFunctions;
var
  x, y: Float;
begin
  Term;
  GCode(0);
  MCode(3);
  SCode(1200);
  TCode(5);
  Feed(150);
  Plane(18);
  Plane(19);
  Plane(0);
  From(0, 0, 100);
  Rapid3D(1.23456, -0.25, 50);
  Rapid(1, 2, 3);
  RapidXY(10, -2.5);
  RapidZ(5);
  GoTo3D(1, 2, -3, 0);
  GoTo3D(1, 2, -3, 150);
  GoToXY(4, 5, 0);
  GoToZ(-1, 80);
  CW(10, 0, 5, 0);
  CCW(0, 0, -5, 0);
  CWR(10, 10, 5);
  CCWR(0, 0, 12.5);
  MoveTo(0, 0);
  SetAngl(90);
  Move(5);
  Turn(-90);
  Move3D(2, -4);
  MoveRel(1, 1);
  GetLP(x, y);
  Writeln(FloatToStrF('%.3f', x) + ' ' + FloatToStrF('%.3f', y));
  Writeln(IntToStr(CutterSpeed(10, 100)) + ' ' + IntToStr(FeedRate(3183, 0.05)));
  SetAngl(0);
  Turn(30);
  Turn(30);
  Move(10);
  Term;
end.
