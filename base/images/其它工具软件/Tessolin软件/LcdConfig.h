// Display configuration of the panel
#define LCD_CONFIG_TYPE  1
