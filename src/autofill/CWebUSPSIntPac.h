#pragma once

#include "CWebUSPSIntEnv.h"

// USPS international calculator for packages: the same page, fields and rules as the envelope
// filler, told apart only by its address (the address test keeps each to its own page).
class CWebUSPSIntPac final : public CWebUSPSIntEnv
{
public:
    using CWebUSPSIntEnv::CWebUSPSIntEnv;
};
