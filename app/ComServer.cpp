#include "ComServer.h"

#include <dlfcn.h>

#include <cstdint>

const char* const kReportEngineLibraries[2] = {"rpteng.so", "rptdes.so"};

namespace {
ReportEngineFactory& Factory() {
  static ReportEngineFactory factory;
  return factory;
}

// The entries answer a 32-bit result code, negative for failure.
using RegistrationEntry = int32_t (*)();
}  // namespace

void SetReportEngineFactory(ReportEngineFactory factory) { Factory() = std::move(factory); }

bool IsReportEngineRegistered() {
  if (!Factory()) return false;
  try {
    return Factory()() != nullptr;
  } catch (...) {
    return false;
  }
}

bool RegisterComServer(const QString& path, bool registerServer) {
  if (path.isEmpty()) return false;  // an empty path would name the program itself
  void* library = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return false;
  bool registered = false;
  void* symbol = dlsym(library, registerServer ? "DllRegisterServer" : "DllUnregisterServer");
  if (symbol) registered = reinterpret_cast<RegistrationEntry>(symbol)() >= 0;
  dlclose(library);
  return registered;
}
