-- Starts `tratta_valle3 lsp` for the descriptions (filetype tratta, from
-- ftdetect/tratta.vim) and attaches every description's buffer to it.
-- Neovim 0.7 or later (an older one passes over it); put the folder
-- editors/vim on 'runtimepath', or install the Debian package.
if vim.fn.has('nvim-0.7') == 0 then return end
local client
vim.api.nvim_create_autocmd('FileType', {
  pattern = 'tratta',
  callback = function(args)
    if not client or not vim.lsp.get_client_by_id(client) then
      client = vim.lsp.start_client({
        name = 'tratta',
        cmd = { vim.g.tratta_valle3 or 'tratta_valle3', 'lsp' },
        root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(args.buf), ':p:h'),
      })
    end
    if client then vim.lsp.buf_attach_client(args.buf, client) end
  end,
})
