#include "scriptengine/Value.h"

namespace kelvan::scriptengine {

void InitCell(const Type* t, Cell& c) {
  c.I = 0;
  switch (t->K) {
    case Kind::String: c.S.clear(); break;
    case Kind::Record: {
      auto a = std::make_shared<Agg>(t->Fields.size());
      for (size_t i = 0; i < t->Fields.size(); ++i) InitCell(t->Fields[i].FieldType, (*a)[i]);
      c.A = std::move(a);
      break;
    }
    case Kind::Array: {
      auto a = std::make_shared<Agg>(static_cast<size_t>(t->Count()));
      if (!t->Elem->IsScalar())
        for (Cell& e : *a) InitCell(t->Elem, e);
      c.A = std::move(a);
      break;
    }
    case Kind::DynArray: c.A.reset(); break;
    default: break;
  }
}

// Records and static arrays are copied into the cells they already have: a var parameter
// or a with statement may hold the address of one of those cells, and it must stay valid.
void CopyCell(const Type* t, const Cell& src, Cell& dst) {
  switch (t->K) {
    case Kind::String: dst.S = src.S; break;
    case Kind::Record: case Kind::Array: {
      if (&src == &dst || src.A == dst.A) return;
      const size_t n = src.A->size();
      if (!dst.A || dst.A->size() != n) InitCell(t, dst);
      for (size_t i = 0; i < n; ++i)
        CopyCell(t->K == Kind::Record ? t->Fields[i].FieldType : t->Elem, (*src.A)[i], (*dst.A)[i]);
      break;
    }
    case Kind::DynArray: dst.A = src.A; break;
    default: dst.I = src.I; break;
  }
}

}  // namespace kelvan::scriptengine
