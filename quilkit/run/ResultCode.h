#pragma once
// What an engine's handling of one object came to.

// Result codes in the manner of an HRESULT: callers only look at the sign.
using ResultCode = long;
constexpr ResultCode kResultOk = 0;
constexpr ResultCode kResultFail = static_cast<ResultCode>(0x80004005L);
// Not a failure: the object was left as it was because a stop was requested meanwhile.
constexpr ResultCode kResultStopped = 1;
// Not a failure and not an object of the run's count: a file the engine passed over.
constexpr ResultCode kResultUncounted = 2;
// A failure that is no object of the run's count: what was to be read was refused or not
// there, and nothing was hashed.
constexpr ResultCode kResultFailUncounted = static_cast<ResultCode>(0x80004004L);
