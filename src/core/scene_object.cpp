// UTF-8 access to the cp1251 strings of records.
#include "core/scene_object.h"

#include "lang/cp1251.h"

namespace vorn::core {

template <std::size_t N> std::string ShortString<N>::utf8() const {
    return lang::cp1251ToUtf8(raw());
}

template <std::size_t N> void ShortString<N>::setUtf8(std::string_view text) {
    // Cut by characters first: cp1251 holds one byte per character.
    setRaw(lang::utf8ToCp1251(lang::utf8Truncate(text, N)));
}

template struct ShortString<kNameLength>;
template struct ShortString<kDomainTextLength>;
template struct ShortString<23>;

} // namespace vorn::core
