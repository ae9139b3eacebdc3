#pragma once

#include <optional>
#include <string>

// A message for the operator, decided by the logic and only shown by the GUI layer
// (uikit::message). Texts are UTF-8.
struct UserMessage {
    enum class Icon { None, Information, Warning };

    std::string text;
    std::optional<std::string> caption; // nullopt: the application's name
    Icon icon = Icon::None;

    friend bool operator==(const UserMessage&, const UserMessage&) = default;
};
