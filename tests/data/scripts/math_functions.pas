{ The Math unit: degrees, directions and crossings. }
var
  sa, ea, px, py, qx, qy: Float;
  n: Integer;

procedure P(const name: String; v: Float);
begin
  Writeln(name + ' ' + FloatToStrF('%.4f', v));
end;

begin
  P('sin30', Sin(30));
  P('cos60', Cos(60));
  P('tan45', Tan(45));
  P('arcsin', ArcSin(0.5));
  P('arccos', ArcCos(0.5));
  P('arctan', ArcTan(1));
  P('distance', Distance(0, 0, 3, 4));
  P('angl225', PosToAngl(0, 0, -1, -1));
  P('angl90', PosToAngl(1, 1, 1, 1));
  P('angl0', PosToAngl(0, 0, 5, 0));
  sa := 350; ea := 10; AnglCheck(sa, ea); P('check1', sa); P('check1e', ea);
  sa := 10; ea := 350; AnglCheck(sa, ea); P('check2', sa); P('check2e', ea);
  sa := -400; ea := -500; AnglCheck(sa, ea); P('check3', sa); P('check3e', ea);
  if LineLineCross(0, 0, 4, 2, 0, 3, 3, 0, px, py) then begin P('llx', px); P('lly', py); end;
  if not LineLineCross(0, 0, 1, 1, 0, 1, 1, 2, px, py) then Writeln('parallel');
  n := LineArcCross(5, 0, -5, 0, 0, 0, 2, px, py, qx, qy);
  Writeln('la ' + IntToStr(n)); P('p1x', px); P('p1y', py); P('p2x', qx); P('p2y', qy);
  n := LineArcCross(-5, 2, 5, 2, 0, 0, 2, px, py, qx, qy);
  Writeln('tangent ' + IntToStr(n)); P('tx', px); P('ty', py);
  n := ArcArcCross(0, 0, 2, 2, 0, 2, px, py, qx, qy);
  Writeln('aa ' + IntToStr(n)); P('a1x', px); P('a1y', py); P('a2x', qx); P('a2y', qy);
  Writeln('apart ' + IntToStr(ArcArcCross(0, 0, 1, 5, 0, 1, px, py, qx, qy)));
  Writeln('same centre ' + IntToStr(ArcArcCross(0, 0, 1, 0, 0, 2, px, py, qx, qy)));
end.
