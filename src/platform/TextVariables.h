#pragma once
// Variables passed with a text key: name -> value, ordered by code-unit
// comparison of the names. Texts refer to them as $(Name).
#include <map>
#include <string>

using TextVariables = std::map<std::wstring, std::wstring>;
