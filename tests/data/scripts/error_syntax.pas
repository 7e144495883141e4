program Broken;
var
  i: Integer;
begin
  i := 1
  GCode(i);
end.
