#pragma once
// Result codes of the platform layer: 32-bit HRESULT-style values with their published numbers,
// so that code above the platform can compare against the same constants the original
// interfaces used. Zero is success, negative values are errors.
#include <cstdint>

namespace platform {

/// A 32-bit result: 0 or more is success, below 0 a failure code.
using HRESULT = std::int32_t;

/// A result code from its unsigned spelling (0x8...).
constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }

/// Success, and the failure codes of the platform's calls: not implemented or unsupported, failure, invalid argument, out of memory, access denied (another program has the device), invalid rectangle, no mirror hardware, surface lost, still drawing, not locked, no display hardware, not acquired, input lost, sound device allocated, bad sound format, no sound driver, sound buffer lost, not initialised.
/// @{
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT E_NOTIMPL = Code(0x80004001);
inline constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
inline constexpr HRESULT E_FAIL = Code(0x80004005);
inline constexpr HRESULT E_INVALIDARG = Code(0x80070057);
inline constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
inline constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
inline constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000E);
inline constexpr HRESULT E_ACCESSDENIED = Code(0x80070005);
inline constexpr HRESULT DIERR_OTHERAPPHASPRIO = E_ACCESSDENIED;
inline constexpr HRESULT DDERR_INVALIDRECT = Code(0x88760096);
inline constexpr HRESULT DDERR_NOMIRRORHW = Code(0x887600FA);
inline constexpr HRESULT DDERR_SURFACELOST = Code(0x887601C2);
inline constexpr HRESULT DDERR_WASSTILLDRAWING = Code(0x8876021C);
inline constexpr HRESULT DDERR_NOTLOCKED = Code(0x88760248);
inline constexpr HRESULT DDERR_NODIRECTDRAWHW = Code(0x88760233);
inline constexpr HRESULT DIERR_NOTACQUIRED = Code(0x8007000C);
inline constexpr HRESULT DIERR_INPUTLOST = Code(0x8007001E);
inline constexpr HRESULT DSERR_ALLOCATED = Code(0x8878000A);
inline constexpr HRESULT DSERR_BADFORMAT = Code(0x88780064);
inline constexpr HRESULT DSERR_NODRIVER = Code(0x88780078);
inline constexpr HRESULT DSERR_BUFFERLOST = Code(0x88780096);
inline constexpr HRESULT DSERR_UNINITIALIZED = Code(0x887800AA);
/// @}

/// Whether a result is a success or a failure.
/// @{
constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }
constexpr bool Failed(HRESULT hr) { return hr < 0; }
/// @}

}  // namespace platform
