var
  s: String;
begin
  s := 'abc'
  Print(s);
end.
