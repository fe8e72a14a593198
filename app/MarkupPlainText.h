// What a person reads in markup, for screen readers and other programs.
#pragma once

#include <string>

// The text content of markup without its tags, entities decoded; the text of
// each text block (and after each line break) on a line of its own.
std::wstring MarkupPlainText(const std::wstring& strMarkup);
