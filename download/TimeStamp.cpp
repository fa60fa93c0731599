#include "download/TimeStamp.h"

#include "framework/StaticInit.h"

const std::wstring TimeStampFormat INIT_ORDER_TIME_STAMPS(L"%Y%m%d%H%M%S");
const std::wstring UnsetTimeStamp INIT_ORDER_TIME_STAMPS(L"19700101000000");

std::wstring FormatTimeStamp(const CTime& time) { return time.Format(TimeStampFormat.c_str()); }

bool SameTimeStamp(const std::wstring& a, const std::wstring& b) { return a == b; }
