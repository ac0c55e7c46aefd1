#include "ScaleChangeRule.h"

void CScaleChangeRule::BeginPlacing(const ScreenRect& target) {
    m_placing = true;
    m_target = target;
}

bool CScaleChangeRule::KeptSize(long& width, long& height) const {
    if (!m_placing) return false;
    width = m_target.right - m_target.left;
    height = m_target.bottom - m_target.top;
    return true;
}

ScreenRect CScaleChangeRule::RectAfterChange(const ScreenRect& suggested) const {
    return m_placing ? m_target : suggested;
}
