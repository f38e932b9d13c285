// Virtual-key codes of Qt keys and the shift code of Qt's modifiers.
#include "canvas/InputKeys.h"

namespace canvas {

namespace {

struct KeyPair {
  int qt;
  std::uint16_t vk;
};

// Keys whose code is not their character.
constexpr KeyPair namedKeys[] = {
    {Qt::Key_Backspace, 8},      {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},         {Qt::Key_Return, 13},      {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},         {Qt::Key_Control, 17},     {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},         {Qt::Key_Pause, 19},       {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},        {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},      {Qt::Key_End, 35},         {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},          {Qt::Key_Up, 38},          {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},          {Qt::Key_Select, 41},      {Qt::Key_Printer, 42},
    {Qt::Key_Execute, 43},       {Qt::Key_Print, 44},       {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},        {Qt::Key_Help, 47},        {Qt::Key_Meta, 91},
    {Qt::Key_Super_L, 91},       {Qt::Key_Super_R, 92},     {Qt::Key_Menu, 93},
    {Qt::Key_Sleep, 95},         {Qt::Key_NumLock, 144},    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},    {Qt::Key_Colon, 186},      {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},         {Qt::Key_Comma, 188},      {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},        {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},      {Qt::Key_Slash, 191},      {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},    {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},    {Qt::Key_Backslash, 220},  {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},     {Qt::Key_SysReq, 44},
};

// The numeric pad's own codes.
constexpr KeyPair padKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

// The shifted digits of a US keyboard reach Qt as their characters; Windows reports the digit.
constexpr KeyPair shiftedDigits[] = {
    {Qt::Key_Exclam, '1'},     {Qt::Key_At, '2'},       {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},  {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},  {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

template <std::size_t N> std::uint16_t lookUp(const KeyPair (&table)[N], int qtKey) {
  for (const KeyPair &p : table)
    if (p.qt == qtKey)
      return p.vk;
  return 0;
}

} // namespace

std::uint16_t virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool pad = modifiers.testFlag(Qt::KeypadModifier);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return static_cast<std::uint16_t>(pad ? 96 + (qtKey - Qt::Key_0) : qtKey);
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
    return static_cast<std::uint16_t>(qtKey); // the capital's code, as Windows reports letters
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
    return static_cast<std::uint16_t>(112 + (qtKey - Qt::Key_F1));
  if (pad) {
    if (const std::uint16_t vk = lookUp(padKeys, qtKey))
      return vk;
  }
  if (const std::uint16_t vk = lookUp(namedKeys, qtKey))
    return vk;
  return lookUp(shiftedDigits, qtKey);
}

int shiftCodeOf(Qt::KeyboardModifiers modifiers) {
  int code = 0;
  if (modifiers.testFlag(Qt::ShiftModifier))
    code |= 1;
  if (modifiers.testFlag(Qt::ControlModifier))
    code |= 2;
  if (modifiers.testFlag(Qt::AltModifier))
    code |= 4;
  return code;
}

} // namespace canvas
