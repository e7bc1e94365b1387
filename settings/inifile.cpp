// replaced by the INI layer
