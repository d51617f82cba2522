// LIKE pattern matching. A pattern is compiled once into steps: `%` (any run
// of characters, none included), `_` (exactly one character) and literal
// characters; the escape character, when given, makes the next pattern
// character literal. Characters are whole characters: a GB18030 national
// character in a narrow string (2 or 4 bytes) or a UTF-16 unit in a wide one,
// so `_` never takes half a character and a trail byte never matches alone.
// Literals compare exactly (SQL comparison is case-sensitive).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace krx {

template <typename CharT>
class TKrxLikePatternOf {
 public:
  using View = std::basic_string_view<CharT>;

  TKrxLikePatternOf() = default;
  // escape is empty for none, else exactly one character.
  TKrxLikePatternOf(View pattern, View escape) { Compile(pattern, escape); }

  void Compile(View pattern, View escape);
  bool Matches(View value) const;

 private:
  enum class StepKind : unsigned char { AnyRun, AnyOne, Literal };
  struct Step {
    StepKind kind;
    size_t offset;  // literal's position in literals_
    size_t length;
  };

  bool LiteralAt(const Step& step, View value, size_t pos) const;

  std::vector<Step> steps_;
  std::basic_string<CharT> literals_;
};

using TKrxLikePattern = TKrxLikePatternOf<char>;
using TKrxWideLikePattern = TKrxLikePatternOf<char16_t>;

// One-off matches, compiling the pattern on the way.
bool KrxLikeMatch(std::string_view value, std::string_view pattern, std::string_view escape = {});
bool KrxLikeMatchWide(std::u16string_view value, std::u16string_view pattern, std::u16string_view escape = {});

// Bytes of the narrow character at text[pos] (1, 2 or 4; cut short at the
// end of the text).
size_t KrxLikeCharLength(std::string_view text, size_t pos);

}  // namespace krx
