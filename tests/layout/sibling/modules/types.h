// What every family folder of modules may include.
