// The maker's own contact details, as the about and information windows show them.
#pragma once

inline constexpr char MakerEmail[] = "join@brightdesk.cn";
inline constexpr char MakerQQ[] = "800061234  800061235";
inline constexpr char MakerServiceLine[] = "客服QQ：800061230  800061231";
