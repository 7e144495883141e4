{ After ClrScr one Writeln leaves exactly one line. }
begin
  ClrScr;
  Writeln('G00');
  if GetLineLength = 1 then Writeln('one line');
end.
