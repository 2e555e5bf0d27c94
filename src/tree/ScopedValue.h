// Sets a variable for the life of a scope and puts the previous value back, however the scope ends.
#pragma once

template <typename T>
class ScopedValue {
public:
    ScopedValue(T& target, T value) : m_target(target), m_previous(target) { m_target = value; }
    ~ScopedValue() { m_target = m_previous; }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& m_target;
    T m_previous;
};
