#include "KrxLike.h"

namespace krx {

namespace {

size_t CharLength(std::string_view text, size_t pos) { return KrxLikeCharLength(text, pos); }
size_t CharLength(std::u16string_view, size_t) { return 1; }

}  // namespace

size_t KrxLikeCharLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x81 || lead > 0xFE || pos + 1 >= text.size()) return 1;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  if (second >= 0x30 && second <= 0x39) return pos + 4 <= text.size() ? 4 : text.size() - pos;
  return 2;
}

template <typename CharT>
void TKrxLikePatternOf<CharT>::Compile(View pattern, View escape) {
  steps_.clear();
  literals_.clear();
  size_t pos = 0;
  while (pos < pattern.size()) {
    size_t length = CharLength(pattern, pos);
    View ch = pattern.substr(pos, length);
    if (!escape.empty() && ch == escape && pos + length < pattern.size()) {
      pos += length;
      length = CharLength(pattern, pos);
      ch = pattern.substr(pos, length);
    } else if (ch.size() == 1 && ch[0] == CharT('%')) {
      // Runs of % are one step.
      if (steps_.empty() || steps_.back().kind != StepKind::AnyRun) {
        steps_.push_back({StepKind::AnyRun, 0, 0});
      }
      pos += length;
      continue;
    } else if (ch.size() == 1 && ch[0] == CharT('_')) {
      steps_.push_back({StepKind::AnyOne, 0, 0});
      pos += length;
      continue;
    }
    steps_.push_back({StepKind::Literal, literals_.size(), ch.size()});
    literals_.append(ch);
    pos += length;
  }
}

template <typename CharT>
bool TKrxLikePatternOf<CharT>::LiteralAt(const Step& step, View value, size_t pos) const {
  // The value's character must be exactly the literal character: same
  // length, same units.
  if (pos + step.length > value.size() || CharLength(value, pos) != step.length) return false;
  return value.compare(pos, step.length, literals_.data() + step.offset, step.length) == 0;
}

template <typename CharT>
bool TKrxLikePatternOf<CharT>::Matches(View value) const {
  // Greedy walk that falls back to the last `%`, letting it take one more
  // character: linear for one `%`, never exponential.
  size_t step = 0;
  size_t pos = 0;
  size_t starStep = static_cast<size_t>(-1);
  size_t starPos = 0;
  while (pos < value.size()) {
    if (step < steps_.size() && steps_[step].kind == StepKind::AnyOne) {
      pos += CharLength(value, pos);
      ++step;
    } else if (step < steps_.size() && steps_[step].kind == StepKind::Literal && LiteralAt(steps_[step], value, pos)) {
      pos += steps_[step].length;
      ++step;
    } else if (step < steps_.size() && steps_[step].kind == StepKind::AnyRun) {
      starStep = step++;
      starPos = pos;
    } else if (starStep != static_cast<size_t>(-1)) {
      step = starStep + 1;
      starPos += CharLength(value, starPos);
      pos = starPos;
    } else {
      return false;
    }
  }
  while (step < steps_.size() && steps_[step].kind == StepKind::AnyRun) ++step;
  return step == steps_.size();
}

template class TKrxLikePatternOf<char>;
template class TKrxLikePatternOf<char16_t>;

bool KrxLikeMatch(std::string_view value, std::string_view pattern, std::string_view escape) {
  return TKrxLikePattern(pattern, escape).Matches(value);
}

bool KrxLikeMatchWide(std::u16string_view value, std::u16string_view pattern, std::u16string_view escape) {
  return TKrxWideLikePattern(pattern, escape).Matches(value);
}

}  // namespace krx
