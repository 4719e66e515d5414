#include "remote/TShotSettings.h"

#include "camera/TCameraParams.h"
#include "remote/TRemoteControl.h"

TShotSettings::TShotSettings(TCameraParams& params)
    : m_params(params)
{ }

TShotSettings::~TShotSettings()
{
    Restore();
}

bool TShotSettings::Set(const QString& property, const QString& value)
{
    TCameraParam* param = m_params.Find(property);
    if (!param || !param->Valid)
        return false;
    if (param->RawValue.compare(value, Qt::CaseInsensitive) == 0
        || param->Value.compare(value, Qt::CaseInsensitive) == 0)
        return true;
    const QString before = param->RawValue;
    const bool set = TRemoteControl::SetProperty(*param, value);
    // Also a refused value may have moved the property: whatever differs now goes back.
    if (set || param->RawValue.compare(before, Qt::CaseInsensitive) != 0) {
        bool known = false;
        for (const auto& entry : m_before)
            known = known || entry.first == param;
        if (!known)
            m_before << qMakePair(param, before);
    }
    return set;
}

bool TShotSettings::Restore()
{
    bool all = true;
    while (!m_before.isEmpty()) {
        const QPair<TCameraParam*, QString> entry = m_before.takeLast();
        all = TRemoteControl::SetProperty(*entry.first, entry.second) && all;
    }
    return all;
}
