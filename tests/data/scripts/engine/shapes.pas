program Shapes;
{ Records in a dynamic array, a nested function and a case over a Char. }
uses Math;

type
  TPoint = record
    X, Y: Float;
  end;
  TPath = array of TPoint;

var
  path: TPath;
  i: Integer;

function Length2(const p: TPath): Float;
var
  total: Float;
  k: Integer;

  function Dist(a, b: TPoint): Float;
  begin
    Result := Sqrt(Sqr(b.X - a.X) + Sqr(b.Y - a.Y));
  end;

begin
  total := 0;
  for k := 1 to Length(p) - 1 do
    total := total + Dist(p[k - 1], p[k]);
  Length2 := total;
end;

function Kind(c: Char): String;
begin
  case c of
    'G': Result := 'move';
    'M', 'T': Result := 'machine';
    '0'..'9': Result := 'digit';
  else
    Result := 'other';
  end;
end;

begin
  SetArrayLength(path, 3);
  path[1].X := 3;
  path[2].X := 3;
  path[2].Y := 4;
  Print(FloatToStr(Length2(path)));
  for i := 1 to Length('GT7x') do
    Print(Kind(Copy('GT7x', i, 1)[1]));
end.
