#pragma once
// CCommandEnum: the sub-commands of the root command, one per tool, in the table's order.
// Next fills as many slots as it is asked for, each with its own command.
#include <windows.h>
#include <shobjidl.h>

class CCommandEnum final : public IEnumExplorerCommand {
public:
    explicit CCommandEnum(UINT next = 0);

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    IFACEMETHODIMP Next(ULONG count, IExplorerCommand** commands, ULONG* fetched) override;
    IFACEMETHODIMP Skip(ULONG count) override;
    IFACEMETHODIMP Reset() override;
    IFACEMETHODIMP Clone(IEnumExplorerCommand** copy) override;

private:
    ~CCommandEnum();

    LONG m_refCount = 1;
    UINT m_next;  // the index into kFlintPopCommands of the next command
};
