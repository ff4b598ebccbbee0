// The editor tests' common first step.
#pragma once

#include <gtest/gtest.h>

#include "ClapInterface.h"

// The host's side of showing the embedded editor in `window`, in the order
// hosts use: the host's scale is given and the editor's size asked for
// before it is parented.
inline void embedEditor(const clap_plugin_t* plugin, const clap_plugin_gui_t* gui, const clap_window_t& window,
                        double scale = 1.0) {
    ASSERT_TRUE(gui->is_api_supported(plugin, window.api, false));
    ASSERT_TRUE(gui->create(plugin, window.api, false));
    EXPECT_TRUE(gui->set_scale(plugin, scale));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, static_cast<uint32_t>(246 * scale + 0.5));
    EXPECT_EQ(height, static_cast<uint32_t>(277 * scale + 0.5));
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_TRUE(gui->show(plugin));
}
