#include "SettingsStore.h"

bool CSettingsStore::ReadEditorPath(std::wstring& path) const { return m_key.ReadString(kValueName, path); }

bool CSettingsStore::WriteEditorPath(const std::wstring& path) const { return m_key.WriteString(kValueName, path); }
