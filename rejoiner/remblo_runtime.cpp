// remblo travels inside every first segment, and nothing in it catches an exception: a failed
// allocation or a broken precondition ends the program either way. The library's throwing
// helpers would bring in its exception classes, their reference-counted strings and the
// formatting behind them (about 60 KB); ending at once here keeps them out. Linked only into
// remblo, whose code is compiled without exceptions.
#include <cstdlib>
#include <exception>

namespace {
[[noreturn]] void Stop() { std::terminate(); }
}  // namespace

namespace std {
void __throw_bad_exception() { Stop(); }
void __throw_bad_alloc() { Stop(); }
void __throw_bad_array_new_length() { Stop(); }
void __throw_bad_cast() { Stop(); }
void __throw_bad_typeid() { Stop(); }
void __throw_logic_error(const char*) { Stop(); }
void __throw_domain_error(const char*) { Stop(); }
void __throw_invalid_argument(const char*) { Stop(); }
void __throw_length_error(const char*) { Stop(); }
void __throw_out_of_range(const char*) { Stop(); }
void __throw_out_of_range_fmt(const char*, ...) { Stop(); }
void __throw_runtime_error(const char*) { Stop(); }
void __throw_range_error(const char*) { Stop(); }
void __throw_overflow_error(const char*) { Stop(); }
void __throw_underflow_error(const char*) { Stop(); }
void __throw_bad_function_call() { Stop(); }
void __throw_system_error(int) { Stop(); }
}  // namespace std
