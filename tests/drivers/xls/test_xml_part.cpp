// A part read by libxml2 whose handler fails: the failure comes back to the reader once
// libxml2 has returned, and libxml2 frees what it holds, as no C++ exception passes through
// its C frames.
#include "workbook/xml_part.h"

#include <gtest/gtest.h>

#include <libxml/xmlmemory.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_set>

using namespace xlsodbc;

namespace {

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t size() const override { return bytes_.size(); }
  bool read(uint64_t offset, size_t n, uint8_t* out) override {
    if (offset + n > bytes_.size()) return false;
    std::memcpy(out, bytes_.data() + offset, n);
    return true;
  }

 private:
  std::string bytes_;
};

// The blocks libxml2 allocates while one is alive and has not freed (its allocator is the C
// library's, counted on the way).
class Libxml2Blocks {
 public:
  Libxml2Blocks() {
    xmlMemGet(&free_, &malloc_, &realloc_, &strdup_);
    live().clear();
    xmlMemSetup(&on_free, &on_malloc, &on_realloc, &on_strdup);
  }
  ~Libxml2Blocks() { xmlMemSetup(free_, malloc_, realloc_, strdup_); }
  size_t count() const { return live().size(); }

 private:
  static std::unordered_set<void*>& live() {
    static std::unordered_set<void*> blocks;
    return blocks;
  }
  static void* on_malloc(size_t n) { return kept(std::malloc(n)); }
  static void* on_realloc(void* p, size_t n) {
    void* q = std::realloc(p, n);
    if (q) {
      live().erase(p);
      live().insert(q);
    }
    return q;
  }
  static char* on_strdup(const char* s) { return static_cast<char*>(kept(strdup(s))); }
  static void on_free(void* p) {
    live().erase(p);
    std::free(p);
  }
  static void* kept(void* p) {
    if (p) live().insert(p);
    return p;
  }
  xmlFreeFunc free_;
  xmlMallocFunc malloc_;
  xmlReallocFunc realloc_;
  xmlStrdupFunc strdup_;
};

// Fails at the element <fail>: with no memory, or with an error of its own.
class FailingHandler : public XmlHandler {
 public:
  explicit FailingHandler(bool no_memory) : no_memory_(no_memory) {}
  void start(std::string_view name, const XmlAttribute*, size_t) override {
    if (name != "fail") return;
    if (no_memory_) throw std::bad_alloc();
    throw std::length_error("vector::reserve");
  }
  void end(std::string_view) override {}
  void text(std::string_view) override {}
  void restart() override {}

 private:
  bool no_memory_;
};

class NoHandler : public XmlHandler {
 public:
  void start(std::string_view, const XmlAttribute*, size_t) override {}
  void end(std::string_view) override {}
  void text(std::string_view) override {}
  void restart() override {}
};

// A declared encoding other than UTF-8 sends a part to libxml2; an attribute value with an
// entity is a block libxml2 allocates for the callback and frees after it.
const char kPart[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet><row><fail a=\"x&amp;y\" b=\"&#65;\"/></row></worksheet>";

TEST(XmlPartCallbacks, HandlerFailureStopsLibxml2AndLeavesNothingBehind) {
  {
    NoHandler none;
    XmlScanner scanner(none);
    ASSERT_FALSE(scanner.feed(kPart, sizeof kPart - 1, true)) << "the part must go to libxml2";
    XmlPart warm_up(std::make_unique<MemorySource>(kPart), "xl/worksheets/sheet1.xml");  // libxml2's own set-up
    ASSERT_TRUE(warm_up.parse_all(none)) << warm_up.error();
  }
  struct Case {
    bool no_memory;
    const char* reason;  // a phrase of the damage reported, or nullptr for bad_alloc thrown again
  };
  for (const Case& k : {Case{true, nullptr}, Case{false, "vector::reserve"}}) {
    SCOPED_TRACE(k.no_memory ? "out of memory" : "another error");
    FailingHandler handler(k.no_memory);
    bool out_of_memory = false, read = true;
    std::string error;
    size_t left = 0;
    {
      Libxml2Blocks blocks;
      {
        XmlPart part(std::make_unique<MemorySource>(kPart), "xl/worksheets/sheet1.xml");
        try {
          read = part.parse_all(handler);
          error = part.error();
        } catch (const std::bad_alloc&) {
          out_of_memory = true;
        } catch (const std::exception& e) {
          error = std::string("escaped: ") + e.what();
        }
      }
      left = blocks.count();
    }
    EXPECT_EQ(left, 0u) << "blocks of libxml2 never freed";
    if (k.reason) {
      EXPECT_FALSE(read);
      EXPECT_NE(error.find("the workbook is damaged: part 'xl/worksheets/sheet1.xml'"), std::string::npos) << error;
      EXPECT_NE(error.find(k.reason), std::string::npos) << error;
    } else {
      EXPECT_TRUE(out_of_memory);
    }
  }
}

}  // namespace
