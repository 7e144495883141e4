// A fault deep in a routine is reported where it happens.
var
  table: array[0..4] of Integer;

procedure Fill(n: Integer);
var
  i: Integer;
begin
  for i := 0 to n do
    table[i] := i * i;
end;

begin
  Fill(3);
  Print(IntToStr(table[3]));
  Fill(5);
  Print('not reached');
end.
