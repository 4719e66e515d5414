#pragma once

#include "camera/TCameraParam.h"

#include <QStringList>

#include <memory>
#include <vector>

class TOIShare;

// The eighteen shooting properties the program works with, in a fixed order, with the display
// texts of their values.
class TCameraParams
{
public:
    explicit TCameraParams(const TCameraLink& link);
    TCameraParams(const TCameraParams&) = delete;
    TCameraParams& operator=(const TCameraParams&) = delete;

    // "takemode", "focalvalue", ... "qualitymovie": the creation order.
    static const QStringList& Names();

    int Count() const { return int(m_params.size()); }
    TCameraParam* At(int index) const;
    // Without regard to case; nullptr for a name that is not one of the eighteen.
    TCameraParam* Find(const QString& name) const;

    void ResetAll(bool clearDictionaries);
    // Reads every property the command list's "get_camprop" names (the camera must be in recording
    // mode). Stops at the first property whose answer could not be read.
    bool Probe(const TOIShare& commandList);
    // Reads every readable property again, stopping at the first failing read; properties the
    // camera does not offer or does not let read are passed over.
    bool RefreshAll();
    // Refills the dictionaries with the texts of the current language and shows them.
    void FillDictionaries();
    bool ComputeApertureNumbers();

    auto begin() const { return m_params.cbegin(); }
    auto end() const { return m_params.cend(); }

private:
    std::vector<std::unique_ptr<TCameraParam>> m_params;
};
