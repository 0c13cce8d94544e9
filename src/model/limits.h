#pragma once

#include <cstddef>

namespace harvelin {

// The sizes the pager fixes, named once for the whole tool: the form, the
// transfer, the files and the command line all take them from here.

// Texts, in Windows-1252 bytes. Every text lives in an 18-byte field; a
// caller's or kitchen call's text and the pager's name hold at most 14
// characters, the remote-delete text ("Fernlöschtext") 16.
constexpr std::size_t TextFieldBytes = 18;
constexpr std::size_t SlotTextMax = 14;
constexpr std::size_t PagerNameMax = 14;
constexpr std::size_t RemoteDeleteTextMax = 16;

// Slots. A pager from version 1.5 on holds 32 caller slots and 16 kitchen
// calls; an older one holds one page of caller slots and no kitchen calls.
// The form shows one page of caller slots at a time.
constexpr std::size_t CallerSlots = 32;
constexpr std::size_t SlotsPerPage = 16;
constexpr std::size_t SmallPagerSlots = SlotsPerPage;
constexpr std::size_t KitchenSlots = 16;

// The progress bar of a read-out or a write counts the steps of a full
// pager, or of one that holds a single page.
constexpr int FullProgressMax = 52;
constexpr int SmallProgressMax = 18;

}  // namespace harvelin
