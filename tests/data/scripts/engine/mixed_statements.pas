// Most statement kinds in one script: a seed for the fuzz target as well.
type TRec = record a: Integer; s: String end;
var x, y: Float; i: Integer; r: TRec; d: array of TRec; c: Char;
begin
  x := 1.5; y := 2;
  SetArrayLength(d, 3);
  with d[1] do begin a := 4; s := 'q' + #10 end;
  for i := 0 to 2 do
    case i of 0: r := d[1]; 1..2: r.s := r.s + IntToStr(i) end;
  c := 'a';
  while c in ['a'..'y'] do Inc(c);
  repeat i := i - 1 until i < -3;
  Print(r.s + c + FloatToStr(x));
end.
