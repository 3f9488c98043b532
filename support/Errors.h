// Numbered run-time errors and the Expected<T> result type of the core.
//
// The containers raise numbered errors (HashTable: 1001, 457, 5; the model's
// lists: 9 for an access out of range, 13 for an element of the wrong class).
// They travel as VbError exceptions that carry the number and the text, so a
// caller can tell them apart and a message can show both. Failures at the
// edges (a project file that cannot be read, an output folder that cannot be
// used) come back as Expected<T> instead, which the caller must look at.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace tarnwick {

class VbError : public std::runtime_error {
public:
    VbError(int number, const std::string& text)
        : std::runtime_error(text.empty() ? "Error " + std::to_string(number) : text),
          m_number(number) {}
    int number() const noexcept { return m_number; }

private:
    int m_number;
};

namespace vberr {
inline constexpr int InvalidArgument = 5;
inline constexpr int OutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int KeyExists = 457;
inline constexpr int TableNotEmpty = 1001;
}  // namespace vberr

// The message of a failed operation: what went wrong, naming the file.
struct Error {
    std::string message;
};

// Either a value or an Error. Deliberately small: has_value(), value(), error().
template <typename T>
class [[nodiscard]] Expected {
public:
    Expected(T value) : m_v(std::move(value)) {}
    Expected(Error error) : m_v(std::move(error)) {}

    bool has_value() const noexcept { return m_v.index() == 0; }
    explicit operator bool() const noexcept { return has_value(); }
    T& value() & { return std::get<0>(m_v); }
    const T& value() const& { return std::get<0>(m_v); }
    T&& value() && { return std::get<0>(std::move(m_v)); }
    T* operator->() { return &std::get<0>(m_v); }
    const T* operator->() const { return &std::get<0>(m_v); }
    const Error& error() const { return std::get<1>(m_v); }

private:
    std::variant<T, Error> m_v;
};

// Result of an operation that gives nothing back but may fail.
struct Done {};
using Status = Expected<Done>;
inline Status ok() { return Done{}; }

}  // namespace tarnwick
