#pragma once
// Short ways to declare the functions of a host unit: parameters by type letter, and a
// procedure or a function with its handler.

#include <functional>
#include <utility>
#include <vector>

#include "scriptengine/ScriptEngine.h"

namespace kelvan::script::host {

using scriptengine::CallContext;
using scriptengine::HostFunction;
using scriptengine::HostParam;
using scriptengine::HostType;
using Handler = std::function<void(CallContext&)>;

inline HostParam I(const char* name) { return {name, HostType::Integer, false}; }
inline HostParam F(const char* name) { return {name, HostType::Float, false}; }
inline HostParam S(const char* name) { return {name, HostType::String, false}; }
inline HostParam B(const char* name) { return {name, HostType::Boolean, false}; }
// A var parameter the function writes back.
inline HostParam VarF(const char* name) { return {name, HostType::Float, true}; }
inline HostParam VarS(const char* name) { return {name, HostType::String, true}; }

inline HostFunction Proc(const char* name, std::vector<HostParam> params, Handler handler) {
  HostFunction f;
  f.Name = name;
  f.Params = std::move(params);
  f.Handler = std::move(handler);
  return f;
}

inline HostFunction Fn(const char* name, std::vector<HostParam> params, HostType result, Handler handler) {
  HostFunction f = Proc(name, std::move(params), std::move(handler));
  f.HasResult = true;
  f.Result = result;
  return f;
}

}  // namespace kelvan::script::host
