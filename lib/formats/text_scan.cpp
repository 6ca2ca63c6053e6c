#include "text_scan.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "sunder/error.h"

namespace sunder {
namespace detail {

namespace {

enum class Parse { Whole, NotWhole, OutOfRange };

// An optional sign and decimal digits only, within 64 bits.
Parse parseWhole(std::string_view token, int64_t &value) {
  size_t i = 0;
  bool negative = false;
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
    negative = token[0] == '-';
    i = 1;
  }
  if (i == token.size()) return Parse::NotWhole;
  const uint64_t limit = negative ? UINT64_C(9223372036854775808) : UINT64_C(9223372036854775807);
  uint64_t x = 0;
  bool over = false;
  for (; i < token.size(); i++) {
    unsigned digit = static_cast<unsigned char>(token[i]) - static_cast<unsigned>('0');
    if (digit > 9) return Parse::NotWhole;
    if (x > (limit - digit) / 10) over = true;
    if (!over) x = 10 * x + digit;
  }
  if (over) return Parse::OutOfRange;
  value = negative ? static_cast<int64_t>(0 - x) : static_cast<int64_t>(x);
  return Parse::Whole;
}

}  // namespace

size_t TextSource::read(char *buffer, size_t size) {
  size_t count = std::min(size, text_.size() - pos_);
  if (count > 0) std::memcpy(buffer, text_.data() + pos_, count);
  pos_ += count;
  return count;
}

LineScanner::LineScanner(ByteSource &source, std::string name, size_t maxLine, size_t readSize)
    : source_(source),
      name_(std::move(name)),
      maxLine_(maxLine),
      readSize_(std::max<size_t>(readSize, 1)) {}

bool LineScanner::empty() { return !started_ && cursor_ == end_ && !readMore(); }

bool LineScanner::next() {
  if (started_) {
    while (lineEnd_ == kOpen) {
      consume(checked_);
      more();
    }
    cursor_ = lineEnd_ + (newline_ ? 1 : 0);
  }
  started_ = true;
  checked_ = cursor_;
  lineEnd_ = kOpen;
  taken_ = 0;
  if (cursor_ == end_ && !readMore()) return false;
  number_++;
  check();
  return true;
}

std::string_view LineScanner::line() {
  while (more()) {
  }
  return std::string_view(buffer_.data() + cursor_, lineEnd_ - cursor_);
}

char LineScanner::peek() {
  while (cursor_ == checked_ && more()) {
  }
  return cursor_ < checked_ ? buffer_[cursor_] : '\n';
}

bool LineScanner::nextField(std::string_view &field) {
  for (;;) {
    size_t p = cursor_;
    while (p < checked_ && isBlankChar(buffer_[p])) p++;
    consume(p);
    if (p < checked_) break;
    if (!more()) return false;
  }
  // Measured from cursor_, which reading may move.
  size_t length = 0;
  for (;;) {
    while (cursor_ + length < checked_ && !isBlankChar(buffer_[cursor_ + length])) length++;
    if (cursor_ + length < checked_ || !more()) break;
  }
  field = std::string_view(buffer_.data() + cursor_, length);
  consume(cursor_ + length);
  return true;
}

// Reads more of the current line; false once it is all read.
bool LineScanner::more() {
  if (lineEnd_ != kOpen) return false;
  if (!readMore()) {
    lineEnd_ = end_;  // the last line, without a '\n'
    newline_ = false;
    return false;
  }
  check();
  return true;
}

// One read from the source after the bytes held; false at its end.
bool LineScanner::readMore() {
  if (atEnd_) return false;
  makeRoom();
  size_t got = source_.read(buffer_.data() + end_, readSize_);
  if (got == 0) {
    atEnd_ = true;
    return false;
  }
  end_ += got;
  return true;
}

// Room for one read: the bytes taken are dropped, and the buffer grows
// (doubling, up to what the longest line needs) when the rest fills it.
void LineScanner::makeRoom() {
  if (buffer_.size() - end_ >= readSize_) return;
  if (cursor_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + cursor_, end_ - cursor_);
    checked_ -= cursor_;
    end_ -= cursor_;
    cursor_ = 0;
  }
  if (buffer_.size() - end_ >= readSize_) return;
  size_t limit = std::max(end_, maxLine_) + readSize_;
  buffer_.resize(std::max(end_ + readSize_, std::min(2 * buffer_.size(), limit)));
}

// Checks the bytes read past checked_, up to the current line's '\n': a NUL
// byte or a line past maxLine_ is an error at once.
void LineScanner::check() {
  if (lineEnd_ != kOpen) return;
  const char *from = buffer_.data() + checked_;
  const char *newline = static_cast<const char *>(std::memchr(from, '\n', end_ - checked_));
  size_t stop = newline != nullptr ? static_cast<size_t>(newline - buffer_.data()) : end_;
  if (std::memchr(from, '\0', stop - checked_) != nullptr)
    fail("line contains a NUL byte: the input is not text");
  checked_ = stop;
  if (taken_ + (checked_ - cursor_) > maxLine_)
    fail("line is longer than " + std::to_string(maxLine_) + " bytes");
  if (newline != nullptr) {
    lineEnd_ = stop;
    newline_ = true;
  }
}

void LineScanner::consume(size_t to) {
  taken_ += to - cursor_;
  cursor_ = to;
}

void LineScanner::fail(const std::string &message) const { throw Error(message, name_, number_); }

void LineScanner::failAt(int64_t line, const std::string &message) const {
  throw Error(message, name_, line);
}

void splitFields(std::string_view line, Fields &fields) {
  fields.clear();
  const char *p = line.data();
  const char *end = p + line.size();
  for (;;) {
    while (p < end && isBlankChar(*p)) p++;
    if (p == end) return;
    const char *start = p;
    while (p < end && !isBlankChar(*p)) p++;
    fields.add(std::string_view(start, static_cast<size_t>(p - start)));
  }
}

bool isBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), isBlankChar);
}

std::string quoted(std::string_view token) {
  constexpr size_t kShown = 40;
  // Bytes that are not printable ASCII are shown as \xNN, so a message
  // about binary input stays one line of plain text.
  std::string shown = "'";
  for (char c : token.substr(0, kShown)) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f) {
      shown += c;
    } else {
      const char *hex = "0123456789abcdef";
      shown += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
    }
  }
  return shown + (token.size() > kShown ? "...'" : "'");
}

std::optional<int64_t> wholeNumberOf(std::string_view token) {
  int64_t value = 0;
  if (parseWhole(token, value) != Parse::Whole) return std::nullopt;
  return value;
}

namespace {

// The whole number in `token`, or the message of its fault in `fault`.
int64_t wholeOrFault(std::string_view token, const char *what, std::string &fault) {
  int64_t value = 0;
  switch (parseWhole(token, value)) {
    case Parse::Whole: return value;
    case Parse::NotWhole:
      fault = std::string(what) + " " + quoted(token) + " is not a whole number";
      break;
    case Parse::OutOfRange:
      fault = std::string(what) + " " + quoted(token) + " is out of range";
      break;
  }
  return 0;
}

int64_t nonNegativeOrFault(std::string_view token, const char *what, std::string &fault) {
  int64_t value = wholeOrFault(token, what, fault);
  if (fault.empty() && value < 0)
    fault = std::string(what) + " " + std::to_string(value) + " is negative";
  return value;
}

}  // namespace

int64_t wholeNumber(const LineScanner &lines, std::string_view token, const char *what) {
  std::string fault;
  int64_t value = wholeOrFault(token, what, fault);
  if (!fault.empty()) lines.fail(fault);
  return value;
}

int64_t nonNegative(const LineScanner &lines, std::string_view token, const char *what) {
  std::string fault;
  int64_t value = nonNegativeOrFault(token, what, fault);
  if (!fault.empty()) lines.fail(fault);
  return value;
}

Capacity parseCapacity(std::string_view text) {
  std::string fault;
  Capacity value = nonNegativeOrFault(text, "capacity", fault);
  if (!fault.empty()) throw Error(fault);
  return value;
}

Capacity capacityAt(const LineScanner &lines, std::string_view text) {
  if (std::vector<RealValue> *reals = lines.realCapacities()) {
    try {
      reals->push_back(RealValue::parse(std::string(text)));
    } catch (const Error &e) {
      lines.fail(e.message());
    }
    return 0;
  }
  std::string fault;
  Capacity value = nonNegativeOrFault(text, "capacity", fault);
  if (!fault.empty()) lines.fail(fault);
  return value;
}

Capacity unitCapacity(const LineScanner &lines) {
  if (std::vector<RealValue> *reals = lines.realCapacities()) {
    reals->push_back(RealValue::parse("1"));
    return 0;
  }
  return 1;
}

std::string nameFault(std::string_view name) {
  if (name.empty()) return "a node name is empty";
  for (char c : name) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (isBlankChar(c) || c == '\n') return "node name " + quoted(name) + " contains a blank";
    if (byte < 0x20 || byte == 0x7f) return "node name " + quoted(name) + " contains a control byte";
  }
  return {};
}

int32_t NameTable::indexOf(std::string_view name) {
  auto found = index_.find(name);
  if (found != index_.end()) return found->second;
  if (names_.size() >= static_cast<size_t>(Graph::kMaxNodes))
    throw Error("more than " + std::to_string(Graph::kMaxNodes) + " nodes");
  int32_t index = static_cast<int32_t>(names_.size());
  names_.emplace_back(name);
  index_.emplace(names_.back(), index);
  return index;
}

std::vector<std::string> NameTable::take() {
  index_.clear();
  std::vector<std::string> names;
  names.reserve(names_.size());
  for (std::string &name : names_) names.push_back(std::move(name));
  names_.clear();
  return names;
}

size_t PrefixedSource::read(char *buffer, size_t size) {
  if (pos_ == first_.size()) return rest_.read(buffer, size);
  size_t count = std::min(size, first_.size() - pos_);
  std::memcpy(buffer, first_.data() + pos_, count);
  pos_ += count;
  if (pos_ == first_.size()) {  // the chunk's memory is given back
    std::string().swap(first_);
    pos_ = 0;
  }
  return count;
}

bool readUpTo(ByteSource &source, std::string &start, size_t size) {
  size_t got = start.size();
  start.resize(size);
  while (got < size) {
    size_t more = source.read(&start[got], size - got);
    if (more == 0) break;
    got += more;
  }
  start.resize(got);
  return got == size;
}

size_t WithoutByteOrderMark::read(char *buffer, size_t size) {
  if (!text_) {  // the first three bytes, however the source splits them
    std::string first;
    readUpTo(source_, first, 3);
    if (first == "\xef\xbb\xbf") first.clear();
    text_.emplace(std::move(first), source_);
  }
  return text_->read(buffer, size);
}

int64_t numberIn(const LineScanner &lines, std::string_view token, const char *what, int64_t lo,
                 int64_t hi) {
  int64_t value = wholeNumber(lines, token, what);
  if (value < lo || value > hi)
    lines.fail(std::string(what) + " " + std::to_string(value) + " is out of range " +
               std::to_string(lo) + ".." + std::to_string(hi));
  return value;
}

void requireFields(const LineScanner &lines, const Fields &fields, size_t count, const char *what,
                   const char *form) {
  if (fields.size() != count)
    lines.fail(std::string(what) + " needs " + std::to_string(count) + " fields (" + form +
               "), not " + std::to_string(fields.size()));
}

void addCapacity(const LineScanner &lines, CapacityTotal &total, Capacity capacity) {
  try {
    total.add(capacity);
  } catch (const Error &e) {
    lines.fail(e.message());
  }
}

}  // namespace detail
}  // namespace sunder
