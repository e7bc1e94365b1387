// replaced by the spreadsheet model
