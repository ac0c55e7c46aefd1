#pragma once
// One options dialog's last choices, kept per user as one string value of the settings key
// ("subfolders=1;md5=0;..."), so that the next run opens as the last one was confirmed.
// A missing or unreadable value gives the callers' defaults: the first run looks as
// before anything was kept. Names the dialog no longer knows are carried over unchanged.
#include <map>
#include <string>

class CRememberedChoices {
public:
    // Reads the value `valueName` of the settings key.
    explicit CRememberedChoices(const wchar_t* valueName);

    std::wstring Text(const wchar_t* name, const wchar_t* fallback) const;
    int Flag(const wchar_t* name, int fallback) const;

    void SetText(const wchar_t* name, const std::wstring& text) { m_choices[name] = text; }
    void SetFlag(const wchar_t* name, int flag) { m_choices[name] = flag ? L"1" : L"0"; }

    // Writes the choices back; a failure only means the next run starts from the defaults.
    void Save() const;

    // The stored form: name=value pairs cut by ';', with '%' and ';' in a value written
    // as %25 and %3B.
    static std::map<std::wstring, std::wstring> Parse(const std::wstring& stored);
    static std::wstring Format(const std::map<std::wstring, std::wstring>& choices);

private:
    const wchar_t* m_valueName;
    std::map<std::wstring, std::wstring> m_choices;
};
