// The settings file the dashboard writes for the defaults, byte for byte as it lies on disk.
#pragma once

namespace qorva_test {

inline constexpr char kDefaultSettingsFile[] =
    "{\r\n"
    "  \"enable_qorva\": true,\r\n"
    "  \"launch_startup\": false,\r\n"
    "  \"auto_check_update\": true,\r\n"
    "  \"bangla_typing\": true,\r\n"
    "  \"banglish_recog\": true,\r\n"
    "  \"eng_to_bangla\": true,\r\n"
    "  \"fuzzy_spelling\": true,\r\n"
    "  \"show_suggestions\": true,\r\n"
    "  \"word_prediction\": true,\r\n"
    "  \"show_eng_candidate\": true,\r\n"
    "  \"auto_correct\": false,\r\n"
    "  \"english_translation\": true,\r\n"
    "  \"online_suggestions\": false,\r\n"
    "  \"personal_learning\": true,\r\n"
    "  \"max_candidates\": 5,\r\n"
    "  \"theme\": 0,\r\n"
    "  \"input_mode\": \"automatic\",\r\n"
    "  \"show_topbar\": true,\r\n"
    "  \"topbar_autohide\": true,\r\n"
    "  \"topbar_x\": -1,\r\n"
    "  \"topbar_y\": 10\r\n"
    "}\r\n";

}  // namespace qorva_test
