var
  a: array[1..3] of Integer;

procedure Fill(n: Integer);
var
  k: Integer;
begin
  for k := 1 to n do
    a[k] := k;
end;

begin
  GCode(1);
  Fill(4);
end.
