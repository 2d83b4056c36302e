// An enumeration's value that also reads as its number: a page's choice
// that the page sets and reads by name, and that the frame hands on as the
// int the step controller's PageValues hold.
#pragma once

template <typename Enum>
class EnumValue {
public:
    constexpr EnumValue(Enum value) : m_value(value) {}
    constexpr Enum value() const { return m_value; }
    constexpr operator int() const { return static_cast<int>(m_value); }

private:
    Enum m_value;
};
