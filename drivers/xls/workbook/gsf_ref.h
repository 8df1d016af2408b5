// Ownership of libgsf objects: a GObject reference released with the holder, and the one-time
// library start-up every reader goes through.
#pragma once

#include <gsf/gsf.h>

#include <string>

namespace xlsodbc {

// Starts libgsf (and the XML library the .xlsx reader uses) once per process.
void init_readers();

// One owned GObject reference; moves, never copies.
template <typename T>
class GRef {
 public:
  GRef() = default;
  explicit GRef(T* p) : p_(p) {}
  GRef(GRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  GRef& operator=(GRef&& o) noexcept {
    if (this != &o) { reset(); p_ = o.p_; o.p_ = nullptr; }
    return *this;
  }
  GRef(const GRef&) = delete;
  GRef& operator=(const GRef&) = delete;
  ~GRef() { reset(); }
  void reset(T* p = nullptr) {
    if (p_) g_object_unref(p_);
    p_ = p;
  }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// The message of a GError, freeing it; `fallback` when there is none.
std::string take_error(GError* err, const char* fallback);

}  // namespace xlsodbc
