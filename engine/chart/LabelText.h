#pragma once
// A chart label assembled in place: texts and numbers appended to a buffer
// of the size a display item holds (what goes beyond is cut, as textAt cuts
// it), so that drawing a run builds its labels without allocating.

#include "engine/chart/DisplayList.h"
#include "engine/model/NumberFormat.h"

class LabelText {
public:
  LabelText& operator<<(const char* text)
  {
    while (*text && len_ + 1 < kItemTextSize)
      buf_[len_++] = *text++;
    buf_[len_] = '\0';
    return *this;
  }
  // v in format, as FormatNumber writes it.
  LabelText& number(double v, const char* format)
  {
    len_ += FormatNumberTo(buf_ + len_, kItemTextSize - len_, v, format);
    return *this;
  }
  [[nodiscard]] const char* c_str() const { return buf_; }

private:
  char buf_[kItemTextSize] = {};
  std::size_t len_ = 0;
};
