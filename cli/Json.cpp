#include "cli/Json.h"

#include <charconv>
#include <cmath>

namespace torvela::cli {

JsonValue::JsonValue() = default;
JsonValue::JsonValue(const JsonValue&) = default;
JsonValue::JsonValue(JsonValue&&) noexcept = default;
JsonValue& JsonValue::operator=(const JsonValue&) = default;
JsonValue& JsonValue::operator=(JsonValue&&) noexcept = default;
JsonValue::~JsonValue() = default;

const JsonValue* JsonValue::Find(std::string_view key) const {
  for (auto it = members.rbegin(); it != members.rend(); ++it)
    if (it->first == key) return &it->second;
  return nullptr;
}

namespace {

constexpr int MaxDepth = 64;

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  bool Document(JsonValue& out) {
    SkipBlanks();
    if (!Value(out, 0)) return false;
    SkipBlanks();
    if (i_ != s_.size()) return Fail("unexpected text after the value");
    return true;
  }

  std::string error;

 private:
  bool Fail(const char* what) {
    error = std::string(what) + " at column " + std::to_string(i_ + 1);
    return false;
  }

  void SkipBlanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n'))
      ++i_;
  }

  bool Literal(std::string_view word) {
    if (s_.substr(i_, word.size()) != word) return Fail("invalid literal");
    i_ += word.size();
    return true;
  }

  bool Value(JsonValue& v, int depth) {
    if (depth > MaxDepth) return Fail("nesting too deep");
    if (i_ >= s_.size()) return Fail("unexpected end of input");
    switch (s_[i_]) {
      case '{': return Object(v, depth);
      case '[': return Array(v, depth);
      case '"': v.kind = JsonValue::Kind::String; return String(v.text);
      case 't': v.kind = JsonValue::Kind::Bool; v.boolean = true; return Literal("true");
      case 'f': v.kind = JsonValue::Kind::Bool; v.boolean = false; return Literal("false");
      case 'n': v.kind = JsonValue::Kind::Null; return Literal("null");
      default: return Number(v);
    }
  }

  bool Object(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::Object;
    ++i_;
    SkipBlanks();
    if (i_ < s_.size() && s_[i_] == '}') {
      ++i_;
      return true;
    }
    for (;;) {
      SkipBlanks();
      if (i_ >= s_.size() || s_[i_] != '"') return Fail("expected a member name");
      std::pair<std::string, JsonValue> member;
      if (!String(member.first)) return false;
      SkipBlanks();
      if (i_ >= s_.size() || s_[i_] != ':') return Fail("expected ':'");
      ++i_;
      SkipBlanks();
      if (!Value(member.second, depth + 1)) return false;
      v.members.push_back(std::move(member));
      SkipBlanks();
      if (i_ < s_.size() && s_[i_] == ',') {
        ++i_;
        continue;
      }
      if (i_ < s_.size() && s_[i_] == '}') {
        ++i_;
        return true;
      }
      return Fail("expected ',' or '}'");
    }
  }

  bool Array(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::Array;
    ++i_;
    SkipBlanks();
    if (i_ < s_.size() && s_[i_] == ']') {
      ++i_;
      return true;
    }
    for (;;) {
      SkipBlanks();
      v.items.emplace_back();
      if (!Value(v.items.back(), depth + 1)) return false;
      SkipBlanks();
      if (i_ < s_.size() && s_[i_] == ',') {
        ++i_;
        continue;
      }
      if (i_ < s_.size() && s_[i_] == ']') {
        ++i_;
        return true;
      }
      return Fail("expected ',' or ']'");
    }
  }

  static void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool Hex4(std::uint32_t& cp) {
    if (i_ + 4 > s_.size()) return Fail("short \\u escape");
    cp = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s_[i_++];
      cp <<= 4;
      if (c >= '0' && c <= '9') cp |= static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') cp |= static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') cp |= static_cast<std::uint32_t>(c - 'A' + 10);
      else return Fail("invalid \\u escape");
    }
    return true;
  }

  bool String(std::string& out) {
    ++i_;  // opening quote
    for (;;) {
      // Copy the plain run in one go.
      std::size_t j = i_;
      while (j < s_.size() && s_[j] != '"' && s_[j] != '\\' &&
             static_cast<unsigned char>(s_[j]) >= 0x20)
        ++j;
      out.append(s_.data() + i_, j - i_);
      i_ = j;
      if (i_ >= s_.size()) return Fail("unterminated string");
      const char c = s_[i_++];
      if (c == '"') return true;
      if (c != '\\') {
        --i_;
        return Fail("control character in string");
      }
      if (i_ >= s_.size()) return Fail("unterminated string");
      const char e = s_[i_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          std::uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {
            std::uint32_t low = 0;
            if (s_.substr(i_, 2) != "\\u") return Fail("lone surrogate");
            i_ += 2;
            if (!Hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return Fail("lone surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return Fail("lone surrogate");
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          --i_;
          return Fail("invalid escape");
      }
    }
  }

  bool Number(JsonValue& v) {
    // JSON grammar: -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    const std::size_t start = i_;
    auto digits = [&] {
      const std::size_t from = i_;
      while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
      return i_ > from;
    };
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    if (i_ < s_.size() && s_[i_] == '0') {
      ++i_;
    } else if (!digits()) {
      i_ = start;
      return Fail("invalid value");
    }
    if (i_ < s_.size() && s_[i_] == '.') {
      ++i_;
      if (!digits()) return Fail("invalid number");
    }
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      ++i_;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (!digits()) return Fail("invalid number");
    }
    v.kind = JsonValue::Kind::Number;
    const auto r = std::from_chars(s_.data() + start, s_.data() + i_, v.number);
    if (r.ec != std::errc() || !std::isfinite(v.number)) return Fail("number out of range");
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

}  // namespace

bool ParseJson(std::string_view text, JsonValue& out, std::string& error) {
  Parser p(text);
  out = JsonValue{};
  if (p.Document(out)) return true;
  error = p.error;
  return false;
}

void AppendJsonString(std::string& out, std::string_view s) {
  static const char hex[] = "0123456789abcdef";
  out += '"';
  std::size_t run = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(s.data() + run, i - run);
    run = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        out += "\\u00";
        out += hex[c >> 4];
        out += hex[c & 15];
    }
  }
  out.append(s.data() + run, s.size() - run);
  out += '"';
}

void AppendJsonNumber(std::string& out, double x) {
  if (!std::isfinite(x)) {
    out += "null";
    return;
  }
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, x);
  out.append(buf, r.ptr);
}

void AppendJsonInt(std::string& out, std::int64_t n) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

}  // namespace torvela::cli
