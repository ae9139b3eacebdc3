#pragma once

#include <optional>
#include <string_view>

// The Pearson threshold is typed as a percentage with decimals ("85.5"). The dialog accepts it
// only when the whole text is one finite number (blanks around it allowed), so that OK never
// stores something the operator did not mean.
namespace setting {

std::optional<double> parsePercent(std::string_view text);

} // namespace setting
