#pragma once
// The texts of the compile and run-time faults, in one place so that they stay alike.

#include <string>
#include <string_view>

namespace kelvan::scriptengine::msg {

inline std::string Missing(std::string_view what) { return "構文エラー: " + std::string(what) + " がありません。"; }
inline std::string Unexpected(std::string_view what) {
  return "構文エラー: '" + std::string(what) + "' はここには書けません。";
}
inline const char* kBadChar = "構文エラー: 使えない文字です。";
inline const char* kOpenString = "構文エラー: 文字列が閉じていません。";
inline const char* kOpenComment = "構文エラー: コメントが閉じていません。";
inline const char* kBadNumber = "構文エラー: 数値が正しくありません。";
inline const char* kExpression = "構文エラー: 式がありません。";
inline const char* kIdentifier = "構文エラー: 名前がありません。";
inline const char* kTooDeep = "入れ子が深すぎます。";
inline std::string NotDeclared(std::string_view n) { return "'" + std::string(n) + "' は宣言されていません。"; }
inline std::string Redeclared(std::string_view n) { return "'" + std::string(n) + "' は既に宣言されています。"; }
inline std::string Unusable(std::string_view n) { return "'" + std::string(n) + "' はこのスクリプトでは使えません。"; }
inline std::string UnknownUnit(std::string_view n) { return "ユニット '" + std::string(n) + "' がありません。"; }
inline std::string NotAType(std::string_view n) { return "'" + std::string(n) + "' は型ではありません。"; }
inline std::string NoValue(std::string_view n) { return "'" + std::string(n) + "' は値を返しません。"; }
inline std::string NotAValue(std::string_view n) { return "'" + std::string(n) + "' は値ではありません。"; }
inline std::string NotARoutine(std::string_view n) {
  return "'" + std::string(n) + "' は手続きでも関数でもありません。";
}
inline const char* kTypeMismatch = "型が一致しません。";
inline const char* kArgCount = "引数の数が違います。";
inline const char* kVarArg = "var 引数には変数を指定してください。";
inline const char* kNotAssignable = "代入できない式です。";
inline const char* kConstExpected = "定数式が必要です。";
inline const char* kBadRange = "範囲が正しくありません。";
inline const char* kOutsideLoop = "ループの外では使えません。";
inline const char* kNotAStatement = "文として書けない式です。";
inline const char* kNotARecord = "レコードではありません。";
inline std::string NoField(std::string_view n) { return "フィールド '" + std::string(n) + "' がありません。"; }
inline const char* kNotIndexable = "添字を付けられない式です。";
inline const char* kOrdinal = "順序型（整数、文字、論理）が必要です。";

// Run-time faults.
inline const char* kDivByZero = "0 で割りました。";
inline const char* kArrayIndex = "配列の添字が範囲外です。";
inline const char* kStringIndex = "文字列の添字が範囲外です。";
inline const char* kTooDeepCalls = "呼び出しが深すぎます（無限の再帰？）。";
inline const char* kFloatRange = "実数の値が整数の範囲を超えています。";
inline const char* kBadFloat = "実数の計算が正しくありません。";
inline const char* kArrayLength = "配列の長さが正しくありません。";
inline const char* kNoMemory = "メモリが足りません（配列か文字列が大きすぎます）。";
inline const char* kInternal = "スクリプトエンジンの内部エラーです。";
inline std::string NotInteger(std::string_view s) { return "'" + std::string(s) + "' は正しい整数ではありません。"; }
inline std::string NotNumber(std::string_view s) { return "'" + std::string(s) + "' は正しい数値ではありません。"; }

}  // namespace kelvan::scriptengine::msg
