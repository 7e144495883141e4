{ A loop that never ends: --max-seconds stops it. }
begin
  GCode(0);
  repeat
  until False;
end.
