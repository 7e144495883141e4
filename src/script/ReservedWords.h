#pragma once

#include <array>
#include <string_view>

namespace kelvan::script {

// The words the script editor colours as keywords and its input support list offers, in
// the list's order: the language's reserved words and the names of the library.
inline constexpr std::array<std::string_view, 155> kReservedWords = {
    "Abs", "AddCheckBox", "AddDlg", "AddEdit", "AddImage", "AddLabel", "And", "AnglCheck",
    "ArcArcCross", "ArcCos", "ArcSin", "ArcTan", "Array", "Atan", "Beep", "Begin", "Boolean",
    "Break", "Byte", "Case", "CCW", "CCWR", "ChangeFileExt", "Char", "CheckBoxChecked", "Chr",
    "ClrScr", "Col", "const", "Copy", "CopyToClipBoard", "cos", "CutterSpeed", "CW", "CWR",
    "DegToRad", "Delete", "DeleteLine", "Distance", "Div", "Do", "Double", "Downto", "Else",
    "End", "Exit", "False", "Feed", "FeedRate", "file", "Float", "FloatToStr", "FloatToStrF",
    "For", "Frac", "From", "Function", "GCode", "Get", "GetCaption", "GetDlgText",
    "GetLineLength", "GetLP", "GetText", "Goto", "GoTo3D", "GoToXY", "GoToZ", "If", "In",
    "InitDlg", "Input", "Insert", "InsertLine", "Int", "Integer", "IntToStr", "IntToStrF",
    "IsNumeric", "Label", "Length", "LineArcCross", "LineLineCross", "Locate", "Max", "MCode",
    "Min", "Mod", "Move", "Move3D", "MoveRel", "MoveTo", "MsgBox", "NewPage", "Nil", "Not", "Of",
    "OkMsgBox", "Or", "Ord", "Output", "Packed", "Pi", "Plane", "Pos", "PosToAngl", "Procedure",
    "Program", "Put", "PutText", "RadToDeg", "Random", "Randomize", "Rapid", "RapidXY", "RapidZ",
    "Read", "Readln", "Real", "Record", "Repeat", "Reset", "Result", "Round", "Row", "SCode",
    "SelLength", "SelText", "Set", "SetAngl", "SetArrayLength", "ShowDlg", "Sin", "Space", "Sqr",
    "String", "StringOfChar", "StrToFloat", "StrToInt", "Tan", "TCode", "Term", "Then", "To",
    "True", "Trunc", "Turn", "Type", "Unit", "Until", "Uses", "Var", "While", "With", "Writeln"};

}  // namespace kelvan::script
