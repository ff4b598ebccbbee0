// The editor tests' common first step.
#pragma once

#include <gtest/gtest.h>

#include "ClapInterface.h"

// The host's side of showing the embedded editor in `window`, in the order
// hosts use: the editor's fixed size is asked for before it is parented.
inline void embedEditor(const clap_plugin_t* plugin, const clap_plugin_gui_t* gui, const clap_window_t& window) {
    ASSERT_TRUE(gui->is_api_supported(plugin, window.api, false));
    ASSERT_TRUE(gui->create(plugin, window.api, false));
    EXPECT_FALSE(gui->set_scale(plugin, 2.0));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 246u);
    EXPECT_EQ(height, 277u);
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_TRUE(gui->show(plugin));
}
