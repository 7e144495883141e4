{ A bolt-hole circle: holes on a circle, drilled with G81, centred on the origin. }
program BoltCircle;
const
  Holes = 6;
  Radius = 40.0;
  StartAngle = 15.0;
  Depth = -12.0;
  Clear = 3.0;
var
  i: Integer;
  a, x, y: Float;

function FormatNc(x, y: Float): String;
begin
  Result := 'X' + FloatToStrF('%.3f', x) + 'Y' + FloatToStrF('%.3f', y);
end;

begin
  ClrScr;
  Term;
  Writeln('O2001 (BOLT CIRCLE ' + IntToStr(Holes) + ' HOLES R' + FloatToStrF('%.1f', Radius) + ')');
  GCode(90); GCode(80); Plane(17);
  TCode(3); MCode(6);
  RapidXY(0, 0);
  SCode(CutterSpeed(8.5, 25));
  MCode(3);
  RapidZ(50);
  for i := 0 to Holes - 1 do
  begin
    a := StartAngle + i * 360.0 / Holes;
    x := Radius * Cos(a);
    y := Radius * Sin(a);
    if i = 0 then
      Writeln('G99G81' + FormatNc(x, y) + 'Z' + FloatToStrF('%.3f', Depth) + 'R' + FloatToStrF('%.3f', Clear) + 'F' + IntToStr(FeedRate(936, 0.12)))
    else
      Writeln(FormatNc(x, y));
  end;
  GCode(80);
  RapidZ(50);
  MCode(5);
  MCode(30);
  Term;
end.
