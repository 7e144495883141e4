#pragma once
// Types and run-time storage of the script language.
//
// Every variable, parameter and array element lives in a Cell. Scalars use the union only,
// so integer and float work touches no heap; strings use the std::string member (short
// ones stay inside it); records and arrays hold their elements behind `Agg`.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvan::scriptengine {

enum class Kind : uint8_t { Void, Integer, Float, Boolean, Char, String, Record, Array, DynArray };

struct Type;

struct Field {
  std::string Key;  // lower case, for lookups
  std::string Name;
  const Type* FieldType = nullptr;
};

struct Type {
  Kind K = Kind::Void;
  bool IsByte = false;  // a Byte is an Integer that wraps to 0..255 when assigned
  std::string Name;     // for messages only
  // Static arrays: bounds and element type; dynamic arrays: element type.
  int64_t Low = 0;
  int64_t High = -1;
  const Type* Elem = nullptr;
  std::vector<Field> Fields;  // records

  bool IsOrdinal() const { return K == Kind::Integer || K == Kind::Char || K == Kind::Boolean; }
  bool IsScalar() const { return K <= Kind::String; }
  bool IsAggregate() const { return K >= Kind::Record; }
  int64_t Count() const { return High - Low + 1; }
};

// Structural sameness where the language is lenient: arrays of the same shape are one
// type (so `array of Integer` in a parameter list meets a variable declared elsewhere),
// records only by their declaration.
inline bool SameType(const Type* a, const Type* b) {
  if (a == b) return true;
  if (a->K != b->K) return false;
  switch (a->K) {
    case Kind::Record: return false;
    case Kind::Array: return a->Low == b->Low && a->High == b->High && SameType(a->Elem, b->Elem);
    case Kind::DynArray: return SameType(a->Elem, b->Elem);
    default: return true;  // scalars: Byte and Integer are one kind
  }
}

struct Cell;
using Agg = std::vector<Cell>;

struct Cell {
  union {
    int64_t I = 0;  // Integer, Char (the byte), Boolean (0 or 1)
    double F;
    Cell* Ref;  // a `var` parameter or a `with` record: the cell it stands for
  };
  std::string S;
  // Record fields in order, array elements from Low. In a cell that refers to another
  // (Ref), the array or record holding that cell, kept alive while the reference lives.
  std::shared_ptr<Agg> A;
};

// A fresh value of `t` in `c`: 0, 0.0, false, '' or the elements, each fresh.
void InitCell(const Type* t, Cell& c);
// `dst := src` for a value of type `t`: records and static arrays are copied element by
// element; a dynamic array is shared, as Pascal's dynamic arrays are references.
void CopyCell(const Type* t, const Cell& src, Cell& dst);

}  // namespace kelvan::scriptengine
