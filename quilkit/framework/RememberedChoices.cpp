#include "RememberedChoices.h"

#include "SettingsKey.h"

namespace {

std::wstring Escaped(const std::wstring& value) {
    std::wstring text;
    for (wchar_t c : value) {
        if (c == L'%')
            text += L"%25";
        else if (c == L';')
            text += L"%3B";
        else
            text += c;
    }
    return text;
}

std::wstring Unescaped(const std::wstring& text) {
    std::wstring value;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, L"%25") == 0) {
            value += L'%';
            i += 2;
        } else if (text.compare(i, 3, L"%3B") == 0) {
            value += L';';
            i += 2;
        } else {
            value += text[i];
        }
    }
    return value;
}

}  // namespace

CRememberedChoices::CRememberedChoices(const wchar_t* valueName) : m_valueName(valueName) {
    CSettingsKey key;
    std::wstring stored;
    if (key.Open() && key.ReadString(m_valueName, stored)) m_choices = Parse(stored);
}

std::wstring CRememberedChoices::Text(const wchar_t* name, const wchar_t* fallback) const {
    const auto found = m_choices.find(name);
    return found == m_choices.end() ? fallback : found->second;
}

int CRememberedChoices::Flag(const wchar_t* name, int fallback) const {
    const auto found = m_choices.find(name);
    if (found == m_choices.end() || (found->second != L"0" && found->second != L"1")) return fallback;
    return found->second == L"1" ? 1 : 0;
}

void CRememberedChoices::Save() const {
    CSettingsKey key;
    if (key.Open()) key.WriteString(m_valueName, Format(m_choices));
}

std::map<std::wstring, std::wstring> CRememberedChoices::Parse(const std::wstring& stored) {
    std::map<std::wstring, std::wstring> choices;
    for (size_t start = 0; start < stored.size();) {
        size_t end = stored.find(L';', start);
        if (end == std::wstring::npos) end = stored.size();
        const std::wstring pair = stored.substr(start, end - start);
        const size_t equals = pair.find(L'=');
        if (equals != std::wstring::npos && equals > 0)
            choices[pair.substr(0, equals)] = Unescaped(pair.substr(equals + 1));
        start = end + 1;
    }
    return choices;
}

std::wstring CRememberedChoices::Format(const std::map<std::wstring, std::wstring>& choices) {
    std::wstring stored;
    for (const auto& [name, value] : choices) {
        if (!stored.empty()) stored += L';';
        stored += name + L'=' + Escaped(value);
    }
    return stored;
}
