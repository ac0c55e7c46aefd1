#pragma once
// The one step the elevated instance of the program takes. Platform-free.
enum class RegistrationStep { None, Register, Unregister };
