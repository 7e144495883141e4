{ The Stnd text functions on the program given with --nc (three lines). }
var
  s: String;
  n: Integer;

procedure B(const name: String; v: Boolean);
begin
  if v then Writeln(name + ' true') else Writeln(name + ' false');
end;

begin
  n := GetLineLength;
  Writeln('count ' + IntToStr(n));
  Writeln('[' + GetText(0) + '][' + GetText(n + 1) + '][' + GetText(1) + ']');
  B('put0', PutText(0, 'X'));
  B('put2', PutText(2, 'N20 G01 X5.'));
  B('insert end', InsertLine(GetLineLength + 1, '(APPENDED)'));
  B('insert past', InsertLine(GetLineLength + 2, 'NO'));
  B('insert first', InsertLine(1, '(FIRST)'));
  B('delete last', DeleteLine(GetLineLength));
  B('delete past', DeleteLine(GetLineLength + 1));
  Readln('Value?', s);
  Writeln('readln ' + s);
  B('msgbox', MsgBox('OK?'));
  B('numeric empty', IsNumeric(''));
  B('numeric .5', IsNumeric('.5'));
  B('numeric -x', IsNumeric('-x'));
  B('numeric x', IsNumeric('x'));
  Writeln('copy [' + Copy('ABCDEF', 2, 3) + '][' + Copy('ABC', 4, 1) + '][' + Copy('ABC', 2, 0) + '][' + Copy('ABC', 2, 99) + ']');
  Writeln('space [' + Space(3) + '][' + Space(-1) + ']');
  Writeln(IntToStrF('N%04d', 25) + ' ' + IntToStrF('%x', 255) + ' ' + FloatToStrF('%8.3f|', 3.14159));
  Writeln(FloatToStrF('%n', 1234567.891) + ' row ' + IntToStr(Row) + ' col ' + IntToStr(Col));
  B('checkbox11', CheckBoxChecked(11));
  Writeln('[' + GetDlgText(0) + ']');
  B('addcheck0', AddCheckBox(0, 0, 0, 10, 10, 'x', True));
  B('showdlg', ShowDlg(300, 200, 'Test'));
end.
